library ieee;
use ieee.std_logic_1164.all;
entity legacy is
    port (clk : in std_logic);
end entity legacy;
architecture rtl of legacy is
begin
end architecture rtl;
