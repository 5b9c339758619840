-- Protected VHDL source of a partner core.
`protect begin_protected
`protect version = 1
`protect comment = "core_name=\"ddr phy\" core_version=23.1.2 vendor=7b11"
`protect key_block
c29tZSBrZXkgYmxvY2s=
`protect data_block
c29tZSBkYXRhIGJsb2Nr
`protect end_protected
