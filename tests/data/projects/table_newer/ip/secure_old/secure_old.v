`pragma protect begin_protected
`pragma protect version = 1
`pragma protect comment = "core_name=\"fir_filter\" core_version=23.1 vendor=6AF7"
`pragma protect key_block
dGFibGUga2V5IGJsb2Nr
`pragma protect data_block
dGFibGUgZGF0YSBibG9jaw==
`pragma protect end_protected
