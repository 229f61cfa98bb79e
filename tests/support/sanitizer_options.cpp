// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The sanitizers' options for a test program, read by their runtimes at start-up. Options
// in the environment still win.

extern "C" {

const char* __asan_default_options()
{
    return "detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1";
}

const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}

const char* __lsan_default_options()
{
    return "suppressions=" CLAMPMETER_LSAN_SUPPRESSIONS ":print_suppressions=0";
}

} // extern "C"
