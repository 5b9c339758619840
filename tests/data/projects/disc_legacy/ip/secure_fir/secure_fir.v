// Protected core delivered by Oltran.
`pragma protect begin_protected
`pragma protect version = 1
`pragma protect comment = "core_name=\"fir_filter\" core_version=23.1 vendor=6AF7"
`pragma protect key_block
bWFkZSB1cCBrZXkgYmxvY2s=
`pragma protect data_block
bWFkZSB1cCBkYXRhIGJsb2Nr
`pragma protect end_protected
