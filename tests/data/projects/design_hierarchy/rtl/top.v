// Top level: nested IP, a protected core used three times (once below a module of an
// included file), a wrapper over a protected body, plain glue logic and a VHDL entity.
`include "helper.vh"
module top (input wire clk, input wire [7:0] d, output wire [7:0] q);
    wire [7:0] cored, glued;
    core u_core (.clk(clk), .d(d), .q(cored));
    sec u_sec_a (.clk(clk), .d(cored), .q(q));
    sec u_sec_b (.clk(clk), .d(d), .q());
    shell u_shell (.a(clk), .b());
    glue u_glue (.d(d), .q(glued));
    helper u_helper (.clk(clk));
    legacy u_legacy (.clk(clk));
endmodule
