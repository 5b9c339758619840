// Placeholder of the generated FIFO.
module fifo (input wire clk, input wire [7:0] data, input wire wrreq, input wire rdreq, output wire [7:0] q);
    fifo_ram u_ram (.clk(clk), .data(data), .wren(wrreq), .q(q));
endmodule
