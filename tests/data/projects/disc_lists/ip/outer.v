module outer;
endmodule
