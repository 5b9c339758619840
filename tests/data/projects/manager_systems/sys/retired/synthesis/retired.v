module retired; endmodule
