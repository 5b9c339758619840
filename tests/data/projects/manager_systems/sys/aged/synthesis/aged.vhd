entity aged is end entity;
