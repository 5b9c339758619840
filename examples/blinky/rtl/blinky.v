// Top level: divides the board clock down and blinks the LED.
module blinky (input wire clk, input wire button, output wire led);
    wire pressed;
    wire [23:0] count;
    debounce u_debounce (.clk(clk), .raw(button), .clean(pressed));
    counter u_counter (.clock(clk), .sclr(pressed), .q(count));
    assign led = count[23];
endmodule
