# Sourced by the harness scripts. Wine turns Windows file names into Unix ones through the Unix
# locale's character set: under a plain C locale (no LANG, as on a CI runner) every Chinese
# file or folder name is refused. The Wine tests therefore always run under one UTF-8 locale,
# whatever the caller's.
unset LC_ALL LC_CTYPE LC_MESSAGES LANGUAGE
export LANG=C.UTF-8
