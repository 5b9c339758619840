`pragma protect begin_protected
`pragma protect data_block
bm8gaGVhZGVyIGNvbW1lbnQ=
`pragma protect end_protected
