//! @file regen_test_support.h
//! @brief Helpers of the generator-run tests: child scripts and a scratch installation with
//! recording generators.
#pragma once

#include "support/test_support.h"

#include <sstream>

namespace regen_test {

//! The system generator of the scratch installation: records its arguments (one a line,
//! "--" after each call), announces each file with the step markers it was given, and
//! writes what the options ask for. FAKE_FAIL=upgrade|generate|convert makes that step
//! print an "Error:" line for FAKE_FAIL_FILE (or every file when unset) and the run that
//! covers that file exit 1;
//! FAKE_NO_LIST=1 leaves out the IP list; FAKE_LAYOUT=synth writes the older layout.
constexpr const char* FAKE_SYSTEM_GENERATOR = R"SH(
here=$(dirname "$0")
for a in "$@"; do printf '%s\n' "$a"; done >> "$here/../../calls.log"
echo -- >> "$here/../../calls.log"
step=""; files=""; begin=""; end=""; layout=${FAKE_LAYOUT:-synthesis}
for a in "$@"; do
  case "$a" in
    --upgrade-ip-cores) step=upgrade;;
    --upgrade-variation-file) step=convert;;
    --synthesis=*) step=generate; lang=${a#--synthesis=};;
    --message-format=begin-*=*) begin=${a#--message-format=begin-*=};;
    --message-format=end-*=*) end=${a#--message-format=end-*=};;
    --batch=*) files="$files
${a#--batch=}";;
    --*) ;;
    *) files="$files
$a";;
  esac
done
failed=0
echo "$files" | while IFS= read -r f; do
  [ -z "$f" ] && continue
  [ -n "$begin" ] && printf '%s\n' "$begin" | sed "s|{1}|$f|"
  if [ "$FAKE_FAIL" = "$step" ] && { [ -z "$FAKE_FAIL_FILE" ] || [ "$FAKE_FAIL_FILE" = "$f" ]; }; then
    echo "Error: $step failed for $f"
  else
    dir=$(dirname "$f"); base=$(basename "$f"); base=${base%.*}
    case "$step" in
      convert) echo "system of $base" > "$dir/$base.tessel";;
      generate)
        mkdir -p "$dir/$base/$layout"
        if [ "$lang" = VHDL ]; then echo vhdl > "$dir/$base/$layout/$base.vhd"; else echo v > "$dir/$base/$layout/$base.v"; fi
        list="$dir/$base/$base.vip"; [ "$layout" = synthesis ] && list="$dir/$base/synthesis/$base.vip"
        [ "$FAKE_NO_LIST" = 1 ] || echo list > "$list";;
    esac
  fi
  [ -n "$end" ] && printf '%s\n' "$end" | sed "s|{1}|$f|"
done
if [ "$FAKE_FAIL" = "$step" ]; then
  [ -z "$FAKE_FAIL_FILE" ] && exit 1
  echo "$files" | grep -qxF "$FAKE_FAIL_FILE" && exit 1
fi
exit 0
)SH";

//! The legacy wizard of the scratch installation: records its arguments and fails when
//! FAKE_FAIL=wizard.
constexpr const char* FAKE_WIZARD = R"SH(
here=$(dirname "$0")
for a in "$@"; do printf '%s\n' "$a"; done >> "$here/../calls.log"
echo -- >> "$here/../calls.log"
echo "Info: wizard ran"
[ "$FAKE_FAIL" = wizard ] && { echo "Error: wizard failed"; exit 2; }
exit 0
)SH";

//! An installation with recording generators and the bundled device database, in use
//! (VORLIN_ROOTDIR) for the object's life.
class SCRATCH_INSTALLATION {
public:
    SCRATCH_INSTALLATION() : m_env("VORLIN_ROOTDIR", m_dir.path() + "/")
    {
        write_script(m_dir.file("gantry_builder/bin/tessel-generate"), FAKE_SYSTEM_GENERATOR);
        write_script(m_dir.file("gantry_builder/bin/ip-deploy"), "exit 0\n");
        write_script(m_dir.file("bin/vkelvane"), FAKE_WIZARD);
        std::filesystem::create_directory_symlink(std::string(VORLIN_BUNDLED_ROOTDIR) + "devices",
                                                  m_dir.file("devices"));
    }

    std::string root() const { return m_dir.path() + "/"; }

    //! The argument lists of every generator call so far, in order.
    std::vector<std::vector<std::string>> calls() const
    {
        std::vector<std::vector<std::string>> calls(1);
        std::istringstream log(read_text(m_dir.file("calls.log")));
        for (std::string line; std::getline(log, line);) {
            if (line == "--")
                calls.emplace_back();
            else
                calls.back().push_back(line);
        }
        calls.pop_back();
        return calls;
    }

private:
    TEMP_DIR m_dir;
    SCOPED_ENV m_env;
};

}  // namespace regen_test
