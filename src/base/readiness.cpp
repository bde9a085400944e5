#include "base/readiness.h"

namespace {

// The system's error codes (winerror.h) that a later try may get past.
enum : uint32_t {
    kPathNotFound = 3,
    kNotReady = 21,
    kSharingViolation = 32,
    kLockViolation = 33,
    kRemoteNotListening = 51,
    kBadNetworkPath = 53,
    kNetworkBusy = 54,
    kDeviceNotThere = 55,
    kBadNetworkResponse = 58,
    kUnexpectedNetworkError = 59,
    kNetworkNameDeleted = 64,
    kBadNetworkName = 67,
    kSemaphoreTimeout = 121,
    kVirtualCircuitClosed = 240,
    kCloudProviderNotRunning = 362,
    kCloudNetworkUnavailable = 388,
    kCloudUnsuccessful = 389,
    kCloudRequestAborted = 393,
    kCloudRequestCanceled = 398,
    kCloudProviderTerminated = 404,
    kCloudRequestTimeout = 426,
    kDeviceNotConnected = 1167,
    kConnectionUnavailable = 1201,
    kNoNetworkOrBadPath = 1203,
    kNoNetwork = 1222,
    kConnectionRefused = 1225,
    kNetworkUnreachable = 1231,
    kHostUnreachable = 1232,
    kPortUnreachable = 1234,
    kConnectionAborted = 1236,
    kNotConnected = 2250,
};

}  // namespace

TReadiness ReadinessAfterFailure(uint32_t error, bool networkPath) {
    switch (error) {
        case kPathNotFound:
            return networkPath ? TReadiness::NotYet : TReadiness::Missing;
        case kNotReady:
        case kSharingViolation:
        case kLockViolation:
        case kRemoteNotListening:
        case kBadNetworkPath:
        case kNetworkBusy:
        case kDeviceNotThere:
        case kBadNetworkResponse:
        case kUnexpectedNetworkError:
        case kNetworkNameDeleted:
        case kBadNetworkName:
        case kSemaphoreTimeout:
        case kVirtualCircuitClosed:
        case kCloudProviderNotRunning:
        case kCloudNetworkUnavailable:
        case kCloudUnsuccessful:
        case kCloudRequestAborted:
        case kCloudRequestCanceled:
        case kCloudProviderTerminated:
        case kCloudRequestTimeout:
        case kDeviceNotConnected:
        case kConnectionUnavailable:
        case kNoNetworkOrBadPath:
        case kNoNetwork:
        case kConnectionRefused:
        case kNetworkUnreachable:
        case kHostUnreachable:
        case kPortUnreachable:
        case kConnectionAborted:
        case kNotConnected:
            return TReadiness::NotYet;
        default:
            return TReadiness::Missing;
    }
}

bool IsUncPath(std::string_view path) {
    const auto slash = [](char c) { return c == '\\' || c == '/'; };
    if (path.size() < 3 || !slash(path[0]) || !slash(path[1])) return false;
    if ((path[2] == '?' || path[2] == '.') && path.size() >= 4 && slash(path[3])) {
        // \\?\UNC\server\... is a share; \\?\C:\... and \\.\device are not.
        const std::string_view rest = path.substr(4);
        return rest.size() > 4 && (rest[0] == 'U' || rest[0] == 'u') && (rest[1] == 'N' || rest[1] == 'n') &&
               (rest[2] == 'C' || rest[2] == 'c') && slash(rest[3]);
    }
    return !slash(path[2]);
}
