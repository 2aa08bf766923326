// The failure classes raised by the platform stand-ins. The program tells
// them apart by class, never by message text; a message is a byte string in
// the user's charset.
#pragma once

#include <exception>
#include <string>
#include <utility>

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : Message(std::move(message)) {}
  virtual const char* ClassName() const noexcept { return "Exception"; }
  const char* what() const noexcept override { return Message.c_str(); }

  std::string Message;
};

#define LOGSTAMP_EXCEPTION_CLASS(Name)                                \
  class Name : public Exception {                                     \
   public:                                                            \
    using Exception::Exception;                                       \
    const char* ClassName() const noexcept override { return #Name; } \
  }

// A file could not be opened for reading.
LOGSTAMP_EXCEPTION_CLASS(EFOpenError);
// A file could not be created or opened for writing.
LOGSTAMP_EXCEPTION_CLASS(EFCreateError);
// Fewer bytes were written than the text holds.
LOGSTAMP_EXCEPTION_CLASS(EWriteError);
// A line index outside the list.
LOGSTAMP_EXCEPTION_CLASS(EStringListError);
// A text that is no date or time.
LOGSTAMP_EXCEPTION_CLASS(EConvertError);
// A file that was read but cannot be taken as text (a NUL byte, a short read).
LOGSTAMP_EXCEPTION_CLASS(EReadError);

#undef LOGSTAMP_EXCEPTION_CLASS
