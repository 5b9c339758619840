// Readable wrapper around the protected body.
module shell (input wire a, output wire b);
    hid u_body (.a(a), .b(b));
endmodule
