module top (input clk, output [7:0] count);
	counter8 u_counter (.clock (clk), .q (count));
endmodule
