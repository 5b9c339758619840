// Wrapper whose protected body lives in the proxy file wrapped_core.v.cpt.
module wrapped_core (input a, output b);
	wrapped_core_body body (.a (a), .b (b));
endmodule
