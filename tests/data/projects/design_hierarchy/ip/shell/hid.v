// Protected PLL body: the module header is in clear text, the body encrypted.
module hid (input wire a, output wire b);
`pragma protect begin_protected
`pragma protect comment = "core_name=\"clock_pll\" core_version=24.1 vendor=7B10"
`pragma protect data_block
cHJveHkgYm9keQ==
`pragma protect end_protected
endmodule
