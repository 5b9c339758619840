module bus;
endmodule
