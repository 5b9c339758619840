entity util is end entity;
