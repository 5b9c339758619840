module glue (input wire [7:0] d, output wire [7:0] q);
    assign q = ~d;
endmodule
