module outer; endmodule
