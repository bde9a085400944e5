// The program's failure kinds. Every failure is an exception carrying a message text and
// the class name that the start-up failure box shows.
#pragma once

#include <cstdint>
#include <string>

class Exception {
public:
    explicit Exception(std::string message);
    virtual ~Exception() = default;
    Exception(const Exception&) = default;
    Exception& operator=(const Exception&) = default;

    const std::string& Message() const noexcept { return message_; }
    virtual const char* ClassName() const noexcept { return "Exception"; }
    // The code address that raised the failure, for the start-up failure box.
    const void* Address() const noexcept { return address_; }

private:
    std::string message_;
    const void* address_;
};

#define LUMO_DECLARE_EXCEPTION(Name, Base)                                \
    class Name : public Base {                                            \
    public:                                                               \
        using Base::Base;                                                 \
        const char* ClassName() const noexcept override { return #Name; } \
    }

// The abort kind: dropped silently wherever the standard error box would show it.
LUMO_DECLARE_EXCEPTION(EAbort, Exception);
LUMO_DECLARE_EXCEPTION(EStreamError, Exception);
LUMO_DECLARE_EXCEPTION(EFCreateError, EStreamError);
LUMO_DECLARE_EXCEPTION(EFOpenError, EStreamError);
LUMO_DECLARE_EXCEPTION(EFilerError, EStreamError);
LUMO_DECLARE_EXCEPTION(EReadError, EFilerError);
LUMO_DECLARE_EXCEPTION(EWriteError, EFilerError);
LUMO_DECLARE_EXCEPTION(EStringListError, Exception);
LUMO_DECLARE_EXCEPTION(EConvertError, Exception);
LUMO_DECLARE_EXCEPTION(ERegistryException, Exception);
LUMO_DECLARE_EXCEPTION(ETreeViewError, Exception);
LUMO_DECLARE_EXCEPTION(EIntfCastError, Exception);
LUMO_DECLARE_EXCEPTION(EOleError, Exception);
LUMO_DECLARE_EXCEPTION(EOutOfMemory, Exception);
LUMO_DECLARE_EXCEPTION(EOutOfResources, EOutOfMemory);
LUMO_DECLARE_EXCEPTION(EInvalidGraphic, Exception);

// A failure reported by the operating system, with its error code.
class EOSError : public Exception {
public:
    EOSError(std::string message, uint32_t errorCode) : Exception(std::move(message)), errorCode_(errorCode) {}
    const char* ClassName() const noexcept override { return "EOSError"; }
    uint32_t ErrorCode() const noexcept { return errorCode_; }

private:
    uint32_t errorCode_;
};

// A COM call that failed with an HRESULT.
class EOleSysError : public EOleError {
public:
    EOleSysError(std::string message, int32_t errorCode) : EOleError(std::move(message)), errorCode_(errorCode) {}
    const char* ClassName() const noexcept override { return "EOleSysError"; }
    int32_t ErrorCode() const noexcept { return errorCode_; }

private:
    int32_t errorCode_;
};
