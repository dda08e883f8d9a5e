// A run-time failure inside an operation that has an error path of its own.
#pragma once

#include <stdexcept>
#include <string>

namespace pelnoro::program {

struct RunError : std::runtime_error {
  RunError(long errorNumber, std::wstring errorSource, std::wstring errorDescription)
      : std::runtime_error("run-time error"),
        number(errorNumber),
        source(std::move(errorSource)),
        description(std::move(errorDescription)) {}
  long number;
  std::wstring source;
  std::wstring description;
};

// The message the error path shows: number, component and description.
std::wstring ErrorMessageText(long number, const std::wstring& source,
                              const std::wstring& description);

}  // namespace pelnoro::program
