module pll;
endmodule
