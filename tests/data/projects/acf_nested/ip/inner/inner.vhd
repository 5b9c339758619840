entity inner is end entity;
