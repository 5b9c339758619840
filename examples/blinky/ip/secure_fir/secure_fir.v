// Protected FIR filter delivered by Oltran: the source is encrypted.
`pragma protect begin_protected
`pragma protect version = 1
`pragma protect comment = "core_name=\"fir_filter\" core_version=24.1 vendor=6AF7"
`pragma protect key_block
ZXhhbXBsZSBrZXkgYmxvY2s=
`pragma protect data_block
ZXhhbXBsZSBkYXRhIGJsb2Nr
`pragma protect end_protected
