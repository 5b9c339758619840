module sys_list;
endmodule
