// Protected core delivered by Oltran.
`pragma protect begin_protected
`pragma protect version = 1
`pragma protect encrypt_agent = "Oltran Encryption Agent"
`pragma protect comment = "core_name=\"fir_filter\" core_version=24.1 vendor=6AF7"
`pragma protect key_keyowner = "Oltran", key_keyname = "OLT-KEY-01", key_method = "rsa"
`pragma protect encoding = (enctype = "base64", line_length = 76, bytes = 256)
`pragma protect key_block
bWFkZSB1cCBrZXkgYmxvY2sgZm9yIGEgdGVzdCBvZiB0aGUgcHJvdGVjdGVkLWZpbGUgcmVhZGVy
`pragma protect data_method = "aes256-cbc"
`pragma protect encoding = (enctype = "base64", line_length = 76, bytes = 96)
`pragma protect data_block
bWFkZSB1cCBkYXRhIGJsb2NrOiBub3RoaW5nIGhlcmUgaXMgcmVhbGx5IGVuY3J5cHRlZCwgb25s
`pragma protect comment = "core_name=\"decoy\" core_version=1.0 vendor=7B10"
eSBzaGFwZWQgbGlrZSBpdA==
`pragma protect end_protected
