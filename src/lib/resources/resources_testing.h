// Test hooks of the resources module: resetting its state between tests and
// feeding the prompts from a file instead of standard input.
#pragma once

#include <cstdio>

/// Test hook: empties the store and forgets the command line.
void RES_reset_state();
/// Test hook: closes the defaults file and clears names, tags and sections.
void DEF_reset_state();
/// Test hook: where the prompts read their answers (null: standard input).
void ZYP_set_input(FILE *in);
