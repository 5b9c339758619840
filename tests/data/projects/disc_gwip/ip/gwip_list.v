module gwip_list;
endmodule
