-- Button debouncer.
library ieee;
use ieee.std_logic_1164.all;

entity debounce is
    port (clk : in std_logic; raw : in std_logic; clean : out std_logic);
end entity;

architecture rtl of debounce is
    signal history : std_logic_vector(3 downto 0) := (others => '0');
begin
    process (clk) begin
        if rising_edge(clk) then
            history <= history(2 downto 0) & raw;
        end if;
    end process;
    clean <= '1' when history = "1111" else '0';
end architecture;
