// Placeholder of the generated dual-port RAM.
module fifo_ram (input wire clk, input wire [7:0] data, input wire wren, output reg [7:0] q);
    always @(posedge clk) if (wren) q <= data;
endmodule
