module soc (input clk);
endmodule
