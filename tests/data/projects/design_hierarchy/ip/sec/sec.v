// Protected FIR filter: the whole source is encrypted.
`pragma protect begin_protected
`pragma protect version = 1
`pragma protect comment = "core_name=\"fir_filter\" core_version=24.1 vendor=6AF7"
`pragma protect key_block
ZXhhbXBsZSBrZXkgYmxvY2s=
`pragma protect data_block
bW9kdWxlIGZha2U=
`pragma protect end_protected
