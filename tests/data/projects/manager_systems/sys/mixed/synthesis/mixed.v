module mixed; endmodule
