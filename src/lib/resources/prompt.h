// Interactive prompts: questions asked on standard output and answered on standard
// input, where an answer may also be a command ("set name=value", "set", "exit").
// They live above the resource store, which their "set" command reads and writes.
#pragma once

/// Asks for one word of at most length-1 characters (length below 2 counts as 2) into
/// `str`, which must hold `length` characters; when `str` is null a buffer of length+1
/// is allocated with new[] and owned by the caller. "set ..." and "exit" answers are
/// commands; an empty line, or the end of standard input, leaves `str` unchanged.
char *ZYP_prompts(const char *prompt, char *str, int length);
/// Asks for a number; 0 for an empty answer or at the end of standard input.
float ZYP_promptf(const char *prompt);
/// Interprets "set name=value", "set" (lists the resources) and "exit".
/// Returns 1 for a "set" command, 0 when the text is no command.
int ZYP_set_command(const char *string);
