// Exported stream entry points, each running its operation through the exception boundary.
#include "zyostrelapi.h"

#include "status/EntryPoint.h"
#include "streams/HostReads.h"
#include "streams/Streams.h"

namespace st = zyostrel::streams;
using st::ElementType;
using st::WriteKind;

extern "C" {

ZYOSTREL_API int32_t zyOstrel_ConfigureStreamFinite(uint32_t session, uint32_t streamNumber,
                                                    uint64_t numberOfSamples) {
    return zyerr::callBoundary(
        [&] { return st::configureStreamFinite(session, streamNumber, numberOfSamples); });
}

ZYOSTREL_API int32_t zyOstrel_ConfigureStreamEnabledChannels(uint32_t session,
                                                             uint32_t streamNumber,
                                                             const char* channelList,
                                                             uint32_t* channelCount) {
    return zyerr::callBoundary([&] {
        return st::configureStreamEnabledChannels(session, streamNumber, channelList, channelCount);
    });
}

ZYOSTREL_API int32_t zyOstrel_ClearStream(uint32_t session, uint32_t streamNumber) {
    return zyerr::callBoundary([&] { return st::clearStream(session, streamNumber); });
}

ZYOSTREL_API int32_t zyOstrel_StartStream(uint32_t session, uint32_t streamNumber) {
    return zyerr::callBoundary([&] { return st::startStream(session, streamNumber); });
}

ZYOSTREL_API int32_t zyOstrel_WaitForTransfer(uint32_t session, uint32_t streamNumber,
                                              uint64_t waitValue, uint32_t waitArgument,
                                              uint64_t* reportedValue, uint8_t* transferState) {
    return zyerr::callBoundary([&] {
        return st::waitForTransfer(session, streamNumber, waitValue, waitArgument, reportedValue,
                                   transferState);
    });
}

ZYOSTREL_API int32_t zyOstrel_ReadStreamI16(uint32_t session, uint32_t streamNumber,
                                            uint32_t deviceArgument, uint64_t count, int16_t* data,
                                            void* readInfo) {
    return zyerr::callBoundary([&] {
        return st::readStream(session, streamNumber, deviceArgument, 1, count, ElementType::I16,
                              data, readInfo);
    });
}

ZYOSTREL_API int32_t zyOstrel_ReadStreamF64(uint32_t session, uint32_t streamNumber,
                                            uint32_t deviceArgument, uint64_t count, double* data,
                                            void* readInfo) {
    return zyerr::callBoundary([&] {
        return st::readStream(session, streamNumber, deviceArgument, 1, count, ElementType::F64,
                              data, readInfo);
    });
}

ZYOSTREL_API int32_t zyOstrel_ReadStream2DI16(uint32_t session, uint32_t streamNumber,
                                              uint32_t deviceArgument, uint64_t rows,
                                              uint64_t elementsPerRow, int16_t* data,
                                              void* readInfo) {
    return zyerr::callBoundary([&] {
        return st::readStream(session, streamNumber, deviceArgument, rows, elementsPerRow,
                              ElementType::I16, data, readInfo);
    });
}

ZYOSTREL_API int32_t zyOstrel_ReadStream2DF64(uint32_t session, uint32_t streamNumber,
                                              uint32_t deviceArgument, uint64_t rows,
                                              uint64_t elementsPerRow, double* data,
                                              void* readInfo) {
    return zyerr::callBoundary([&] {
        return st::readStream(session, streamNumber, deviceArgument, rows, elementsPerRow,
                              ElementType::F64, data, readInfo);
    });
}

ZYOSTREL_API int32_t zyOstrel_WriteStreamI16(uint32_t session, uint32_t streamNumber,
                                             uint32_t deviceArgument, uint64_t count,
                                             const int16_t* data) {
    return zyerr::callBoundary([&] {
        return st::writeStream(session, streamNumber, deviceArgument, count, WriteKind::I16, data);
    });
}

ZYOSTREL_API int32_t zyOstrel_WriteStreamComplexI16(uint32_t session, uint32_t streamNumber,
                                                    uint32_t deviceArgument, uint64_t count,
                                                    const int16_t* data) {
    return zyerr::callBoundary([&] {
        return st::writeStream(session, streamNumber, deviceArgument, count, WriteKind::ComplexI16,
                               data);
    });
}

ZYOSTREL_API int32_t zyOstrel_WbReadStreamI16(uint32_t session, uint32_t streamNumber,
                                              uint32_t deviceArgument, uint64_t count,
                                              uint8_t** data, void* readInfo) {
    return zyerr::callBoundary([&] {
        return st::hostReadStream1D(session, streamNumber, deviceArgument, count, ElementType::I16,
                                    data, readInfo);
    });
}

ZYOSTREL_API int32_t zyOstrel_WbReadStreamF64(uint32_t session, uint32_t streamNumber,
                                              uint32_t deviceArgument, uint64_t count,
                                              uint8_t** data, void* readInfo) {
    return zyerr::callBoundary([&] {
        return st::hostReadStream1D(session, streamNumber, deviceArgument, count, ElementType::F64,
                                    data, readInfo);
    });
}

ZYOSTREL_API int32_t zyOstrel_WbReadStream2DI16(uint32_t session, uint32_t streamNumber,
                                                uint32_t deviceArgument, uint64_t rows,
                                                uint64_t elementsPerRow, uint8_t** data,
                                                uint8_t** readInfo) {
    return zyerr::callBoundary([&] {
        return st::hostReadStream2D(session, streamNumber, deviceArgument, rows, elementsPerRow,
                                    ElementType::I16, data, readInfo);
    });
}

ZYOSTREL_API int32_t zyOstrel_WbReadStream2DF64(uint32_t session, uint32_t streamNumber,
                                                uint32_t deviceArgument, uint64_t rows,
                                                uint64_t elementsPerRow, uint8_t** data,
                                                uint8_t** readInfo) {
    return zyerr::callBoundary([&] {
        return st::hostReadStream2D(session, streamNumber, deviceArgument, rows, elementsPerRow,
                                    ElementType::F64, data, readInfo);
    });
}

}  // extern "C"
