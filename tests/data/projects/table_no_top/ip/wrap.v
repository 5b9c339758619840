module wrap (input wire clk);
    rom_1port rom_0 (.clk(clk));
endmodule
