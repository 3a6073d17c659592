// Turkish texts for a file or table that a run could not use, naming it as
// the user typed the path. Every message of the runs about a file problem is
// worded here, so that the wording lives in one place.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <system_error>

// The cause of an operating-system failure in a few Turkish words
// ("diskte yer kalmadı", "erişim izni yok", ...); the system's own text for
// causes without a wording of ours.
std::string FailureCause(const std::error_code& error);

// "<what>: <typed path> (<cause>)", e.g.
// "Tablo yazılamadı: C:\ZEFIRTAK\KMX3\DATA\sirket.db (diskte yer kalmadı)".
// Without a cause the parenthesis is left out.
std::string FileFailureText(const std::string& what, const std::string& typedPath,
                            const std::string& cause);

// A byte count as a user reads it: "1,5 MB", "240 KB", "3,2 GB".
std::string SizeText(std::uintmax_t bytes);

// The text a run shows for a failure it did not expect: for a file the
// operating system refused (platform::FileSystemError with a cause), the
// Turkish FileFailureText naming the file as typed; otherwise what().
std::string FailureText(const std::exception& failure);
