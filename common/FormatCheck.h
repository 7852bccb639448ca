// Marks printf-like functions so the compiler checks every call's format and arguments, and
// refuses a format that is not a literal (user text must travel as an argument, never as the
// format). Expands to nothing for compilers without the attribute.
#ifndef ZAV_COMMON_FORMATCHECK_H
#define ZAV_COMMON_FORMATCHECK_H

#if defined(__GNUC__) || defined(__clang__)
#define ZAV_PRINTF_FORMAT(formatIndex, firstArg) __attribute__((format(printf, formatIndex, firstArg)))
#else
#define ZAV_PRINTF_FORMAT(formatIndex, firstArg)
#endif

#endif
