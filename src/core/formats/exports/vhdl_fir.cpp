#include "core/formats/exports/vhdl_fir.h"

#include "core/formats/crt.h"
#include "core/formats/exports/export_text.h"
#include "core/formats/exports/hdl_fir.h"

namespace taplore {
namespace {

std::string D(int value) {
    return crt::FormatD(value);
}

constexpr const char* kLibraries =
    "library ieee;\nuse ieee.std_logic_1164.all;\nuse ieee.numeric_std.all;\n";

std::string Entity(const BitTrueFormats& formats) {
    return "\nentity taplore_fir is\n"
           "    generic (\n"
           "        IN_BITS : positive := " +
           D(formats.input.bits) +
           ";\n"
           "        OUT_BITS : positive := " +
           D(formats.output.bits) +
           ";\n"
           "        ACC_BITS : positive := " +
           D(formats.accumulatorBits) +
           ";\n"
           "        -- the accumulator's fraction bits (input's plus taps') less the output's\n"
           "        SHIFT : integer := " +
           D(FirShift(formats)) +
           ";\n"
           "        SATURATE : boolean := " +
           (formats.overflow == Overflow::saturate ? "true" : "false") +
           ";\n"
           "        -- 0 nearest (ties away from zero), 1 floor, 2 towards zero, 3 convergent\n"
           "        ROUNDING : natural range 0 to 3 := " +
           D(static_cast<int>(formats.rounding)) +
           "\n"
           "    );\n"
           "    port (\n"
           "        clk : in std_logic;\n"
           "        ce : in std_logic;\n"
           "        x : in signed(IN_BITS - 1 downto 0);\n"
           "        y : out signed(OUT_BITS - 1 downto 0)\n"
           "    );\n"
           "end entity taplore_fir;\n\n"
           "architecture rtl of taplore_fir is\n";
}

std::string TapConstants(const FixedPointTaps& taps) {
    const auto& values = taps.values;
    return "    constant TAP_COUNT : positive := " + D(static_cast<int>(values.size())) +
           ";\n    constant TAP_BITS : positive := " + D(taps.format.bits) +
           ";\n    constant SYMMETRY : integer := " + D(FirSymmetryConstant(values)) +
           ";\n    constant MULTIPLIERS : positive := " + D(FirMultipliers(values)) +
           ";\n    constant LEVELS : natural := " + D(FirTreeLevels(values)) +
           ";\n    type tap_array is array (0 to TAP_COUNT - 1) of signed(TAP_BITS - 1 downto 0);\n"
           "    constant TAPS : tap_array := (\n" +
           VhdlTapElements(taps.values, taps.format.bits) + "    );\n";
}

constexpr const char* kArchitecture =
    R"(    constant PRODUCT_BITS : positive := IN_BITS + 1 + TAP_BITS;
    -- Each level of the tree adds a bit: the sums stay exact.
    constant SUM_BITS : positive := PRODUCT_BITS + LEVELS;
    -- Wide enough for the exact sum, the accumulator shifted up and the output's range.
    constant UP : natural := maximum(-SHIFT, 0);
    constant W : positive := maximum(maximum(SUM_BITS, ACC_BITS + UP), OUT_BITS) + 2;
    subtype wide is signed(W - 1 downto 0);
    constant ONE : wide := to_signed(1, W);

    -- v in bits of two's complement: itself when it fits, else saturated or its low bits.
    function fit(v : wide; bits : positive) return wide is
        constant largest : wide := shift_left(ONE, bits - 1) - 1;
    begin
        if v >= -largest - 1 and v <= largest then
            return v;
        elsif SATURATE then
            if v > largest then
                return largest;
            end if;
            return -largest - 1;
        end if;
        return resize(v(bits - 1 downto 0), W);
    end function;

    -- v / 2^SHIFT, rounded as ROUNDING says.
    function round_shift(v : wide) return wide is
        constant half : wide := shift_left(ONE, maximum(SHIFT - 1, 0));
        variable down, rest, magnitude : wide;
    begin
        down := shift_right(v, SHIFT);
        rest := v - shift_left(down, SHIFT);
        case ROUNDING is
            when 1 =>
                return down;
            when 2 =>
                if v < 0 and rest /= 0 then
                    return down + 1;
                end if;
                return down;
            when 3 =>
                if rest > half or (rest = half and down(0) = '1') then
                    return down + 1;
                end if;
                return down;
            when others =>
                magnitude := shift_right(abs v + half, SHIFT);
                if v < 0 then
                    return -magnitude;
                end if;
                return magnitude;
        end case;
    end function;

    function to_output(accumulator : wide) return wide is
    begin
        if SHIFT > 0 then
            return fit(round_shift(accumulator), OUT_BITS);
        end if;
        return fit(shift_left(accumulator, UP), OUT_BITS);
    end function;

    -- The adder tree's nodes, a level after the other: level 0 holds the products, each further
    -- level the sums of the pairs of the one before, an odd one out passing on alone.
    type level_array is array (0 to LEVELS) of natural;

    function level_counts return level_array is
        variable counts : level_array;
    begin
        counts(0) := MULTIPLIERS;
        for level in 1 to LEVELS loop
            counts(level) := (counts(level - 1) + 1) / 2;
        end loop;
        return counts;
    end function;

    constant COUNT : level_array := level_counts;

    function level_starts return level_array is
        variable starts : level_array := (others => 0);
    begin
        for level in 1 to LEVELS loop
            starts(level) := starts(level - 1) + COUNT(level - 1);
        end loop;
        return starts;
    end function;

    constant START : level_array := level_starts;
    constant NODES : positive := START(LEVELS) + 1;

    type delay_array is array (0 to TAP_COUNT - 1) of signed(IN_BITS - 1 downto 0);
    type pre_array is array (0 to MULTIPLIERS - 1) of signed(IN_BITS downto 0);
    type node_array is array (0 to NODES - 1) of signed(SUM_BITS - 1 downto 0);
    signal delay : delay_array := (others => (others => '0'));
    signal pre : pre_array := (others => (others => '0'));
    signal node : node_array := (others => (others => '0'));
    signal result : signed(OUT_BITS - 1 downto 0) := (others => '0');
begin
    y <= result;

    process (clk)
        variable rounded : wide;
    begin
        if rising_edge(clk) then
            if ce = '1' then
                delay(0) <= x;
                for k in 1 to TAP_COUNT - 1 loop
                    delay(k) <= delay(k - 1);
                end loop;
                -- A symmetric pair shares one multiplier: h[k] (x[n-k] +- x[n-(N-1-k)]).
                for k in 0 to MULTIPLIERS - 1 loop
                    if SYMMETRY = 0 or 2 * k = TAP_COUNT - 1 then
                        pre(k) <= resize(delay(k), IN_BITS + 1);
                    elsif SYMMETRY > 0 then
                        pre(k) <= resize(delay(k), IN_BITS + 1) + delay(TAP_COUNT - 1 - k);
                    else
                        pre(k) <= resize(delay(k), IN_BITS + 1) - delay(TAP_COUNT - 1 - k);
                    end if;
                end loop;
                for k in 0 to MULTIPLIERS - 1 loop
                    node(k) <= resize(pre(k) * TAPS(k), SUM_BITS);
                end loop;
                for level in 1 to LEVELS loop
                    for k in 0 to COUNT(level) - 1 loop
                        if 2 * k + 1 < COUNT(level - 1) then
                            node(START(level) + k) <= node(START(level - 1) + 2 * k) +
                                                      node(START(level - 1) + 2 * k + 1);
                        else
                            node(START(level) + k) <= node(START(level - 1) + 2 * k);
                        end if;
                    end loop;
                end loop;
                rounded := to_output(fit(resize(node(NODES - 1), W), ACC_BITS));
                result <= rounded(OUT_BITS - 1 downto 0);
            end if;
        end if;
    end process;
end architecture rtl;
)";

constexpr const char* kBench = R"(    signal clk : std_logic := '0';
    signal ce : std_logic := '0';
    signal x : signed(IN_BITS - 1 downto 0) := (others => '0');
    signal y : signed(OUT_BITS - 1 downto 0);

    -- Wide enough for any 64-bit sample and its magnitude.
    subtype sample is signed(65 downto 0);

    function has_digit(chars : string) return boolean is
    begin
        for i in chars'range loop
            if chars(i) >= '0' and chars(i) <= '9' then
                return true;
            end if;
        end loop;
        return false;
    end function;

    function to_sample(chars : string) return sample is
        variable value : sample := (others => '0');
        variable negative : boolean := false;
    begin
        for i in chars'range loop
            if chars(i) = '-' then
                negative := true;
            elsif chars(i) >= '0' and chars(i) <= '9' then
                value := shift_left(value, 3) + shift_left(value, 1) +
                         (character'pos(chars(i)) - character'pos('0'));
            end if;
        end loop;
        if negative then
            return -value;
        end if;
        return value;
    end function;

    function image(value : signed) return string is
        variable magnitude : unsigned(value'length downto 0) :=
            unsigned(abs resize(value, value'length + 1));
        variable digits : string(1 to 40);
        variable first : positive := digits'high + 1;
    begin
        loop
            first := first - 1;
            digits(first) := character'val(character'pos('0') + to_integer(magnitude rem 10));
            magnitude := magnitude / 10;
            exit when magnitude = 0;
        end loop;
        if value < 0 then
            return "-" & digits(first to digits'high);
        end if;
        return digits(first to digits'high);
    end function;
begin
    dut : entity work.taplore_fir port map (clk => clk, ce => ce, x => x, y => y);

    process
        file stimulus_file, expected_file : text;
        variable stimulus_status, expected_status : file_open_status;
        variable value, want : sample;
        variable found, more : boolean := true;
        variable enabled, compared, differences : natural := 0;

        -- The next line that holds a number, as the number; found false at the end of the file.
        procedure read_sample(file f : text; number : out sample; got : out boolean) is
            variable text_line : line;
        begin
            while not endfile(f) loop
                readline(f, text_line);
                if has_digit(text_line.all) then
                    number := to_sample(text_line.all);
                    got := true;
                    return;
                end if;
            end loop;
            got := false;
        end procedure;

        procedure print(message : string) is
            variable text_line : line;
        begin
            write(text_line, message);
            writeline(output, text_line);
        end procedure;

        procedure tick is
        begin
            wait for 5 ns;
            clk <= '1';
            wait for 1 ns;
        end procedure;
    begin
        file_open(stimulus_status, stimulus_file, STIMULUS, read_mode);
        file_open(expected_status, expected_file, EXPECTED, read_mode);
        if stimulus_status /= open_ok or expected_status /= open_ok then
            print("cannot open " & STIMULUS & " or " & EXPECTED);
            more := false;
        end if;
        while more loop
            if enabled mod 2 = 1 then
                ce <= '0';
                x <= not x;
                tick;
                wait for 4 ns;
                clk <= '0';
            end if;
            read_sample(stimulus_file, value, found);
            if found then
                x <= value(IN_BITS - 1 downto 0);
            else
                x <= (others => '0');
            end if;
            ce <= '1';
            tick;
            if enabled >= LATENCY then
                read_sample(expected_file, want, found);
                if not found then
                    more := false;
                else
                    if resize(y, want'length) /= want then
                        if differences = 0 then
                            print("first difference at sample " & integer'image(compared) &
                                  ": " & image(y) & ", expected " & image(want));
                        end if;
                        differences := differences + 1;
                    end if;
                    compared := compared + 1;
                end if;
            end if;
            enabled := enabled + 1;
            wait for 4 ns;
            clk <= '0';
        end loop;
        if stimulus_status = open_ok and expected_status = open_ok then
            print(integer'image(compared) & " samples compared, " & integer'image(differences) &
                  " differences");
        end if;
        std.env.finish;
    end process;
end architecture bench;
)";

} // namespace

std::string WriteVhdlFir(const FixedPointTaps& taps, const BitTrueFormats& formats) {
    return FirComment(taps.values, "--") + kLibraries + Entity(formats) + TapConstants(taps) +
           kArchitecture;
}

std::string WriteVhdlTestbench(const FixedPointTaps& taps, const BitTrueFormats& formats) {
    return FirTestbenchComment(taps.values, "--") + kLibraries + "use std.textio.all;\n\n" +
           "entity taplore_fir_tb is\n"
           "    generic (\n"
           "        STIMULUS : string := \"stimulus.txt\";\n"
           "        EXPECTED : string := \"expected.txt\"\n"
           "    );\n"
           "end entity taplore_fir_tb;\n\n"
           "architecture bench of taplore_fir_tb is\n"
           "    constant LATENCY : natural := " +
           D(FirLatency(taps.values)) +
           ";\n    constant IN_BITS : positive := " + D(formats.input.bits) +
           ";\n    constant OUT_BITS : positive := " + D(formats.output.bits) + ";\n" + kBench;
}

std::string WriteVhdlFirExport(const ExportInput& input) {
    return HdlExport(input, "--", WriteVhdlFir);
}

std::string WriteVhdlTestbenchExport(const ExportInput& input) {
    return HdlExport(input, "--", WriteVhdlTestbench);
}

} // namespace taplore
