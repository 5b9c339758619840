# Adds the legacy variation for this session only.
set_global_assignment -name VIP_FILE shift/shift_var.vip
