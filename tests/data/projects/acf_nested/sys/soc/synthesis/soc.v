module soc; endmodule
