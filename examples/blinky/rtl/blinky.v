// Top level: divides the board clock down and blinks the LED; buffers samples through the
// FIFO, filters them twice with the protected FIR and runs the DSP and uplink systems.
module blinky (input wire clk, input wire button, input wire [7:0] sample, output wire led,
               output wire [7:0] filtered);
    wire pressed;
    wire [23:0] count;
    wire [7:0] buffered;
    debounce u_debounce (.clk(clk), .raw(button), .clean(pressed));
    counter u_counter (.clock(clk), .sclr(pressed), .q(count));
    fifo u_fifo (.clk(clk), .data(sample), .wrreq(1'b1), .rdreq(1'b1), .q(buffered));
    secure_fir u_fir_a (.clk(clk), .din(buffered), .dout(filtered));
    secure_fir u_fir_b (.clk(clk), .din(sample), .dout());
    dsp u_dsp (.clk(clk), .reset_n(~pressed));
    uplink u_uplink (.clk(clk), .reset_n(~pressed));
    assign led = count[23];
endmodule
