// An ordinary source that talks about `pragma protect begin_protected in a comment only.
module plain (input a, output b);
	assign b = a;
endmodule
