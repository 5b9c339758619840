module top (input clk);
	soc u_soc (.clk (clk));
endmodule
