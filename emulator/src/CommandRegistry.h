// Where the emulated device daemon finds the handler of a command.
//
// Each subject (attributes, streams, I2C, ...) registers its handlers from its own file with
// a static CommandRegistration, so adding a command never touches the dispatcher.
#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "Elaboration.h"
#include "Wire.h"

namespace zyemu {

class Emulator;
class Instrument;
struct Session;

struct CommandContext {
    Emulator& emulator;
    Session& session;
    Instrument& instrument;
    WireReader input;  // the whole record, header included for interface calls
    ReplyWriter reply;
    Elaboration& elaboration;  // usage items explaining a failure
};

// Returns the command's status; a negative status leaves the elaboration for command 800.
using CommandHandler = int32_t (*)(CommandContext& context);

// Brings time-dependent state of a session's instrument up to date (a module becoming
// ready, a voltage falling) before a command or register access reads it.
using SessionTicker = void (*)(Session& session);

// The image's logic answering a value the host wrote to a control register of the session's
// FPGA (a handshake reacting to a request). Runs under the emulator's lock.
using RegisterWriteObserver = void (*)(Emulator& emulator, Session& session, uint32_t offset,
                                       uint8_t value);

class CommandRegistry {
public:
    static CommandRegistry& instance();

    void addTicker(SessionTicker ticker) { tickers_.push_back(ticker); }
    void tick(Session& session) const {
        for (SessionTicker ticker : tickers_) ticker(session);
    }

    void addRegisterWriteObserver(RegisterWriteObserver observer) {
        writeObservers_.push_back(observer);
    }
    void registerWritten(Emulator& emulator, Session& session, uint32_t offset,
                         uint8_t value) const {
        for (RegisterWriteObserver observer : writeObservers_) {
            observer(emulator, session, offset, value);
        }
    }

    void addDirect(uint32_t functionNumber, CommandHandler handler);
    void addInterface(uint32_t interfaceNumber, uint32_t method, CommandHandler handler);

    CommandHandler findDirect(uint32_t functionNumber) const;
    CommandHandler findInterface(uint32_t interfaceNumber, uint32_t method) const;

private:
    std::vector<SessionTicker> tickers_;
    std::vector<RegisterWriteObserver> writeObservers_;
    std::map<uint32_t, CommandHandler> direct_;
    std::map<std::pair<uint32_t, uint32_t>, CommandHandler> interface_;
};

struct DirectCommand {
    uint32_t functionNumber;
};
struct InterfaceCommand {
    uint32_t interfaceNumber;
    uint32_t method;
};

// Registers a handler at load: `static CommandRegistration r{DirectCommand{16}, &handler};`
struct CommandRegistration {
    CommandRegistration(DirectCommand command, CommandHandler handler) {
        CommandRegistry::instance().addDirect(command.functionNumber, handler);
    }
    CommandRegistration(InterfaceCommand command, CommandHandler handler) {
        CommandRegistry::instance().addInterface(command.interfaceNumber, command.method, handler);
    }
};

struct TickerRegistration {
    explicit TickerRegistration(SessionTicker ticker) {
        CommandRegistry::instance().addTicker(ticker);
    }
};

struct RegisterWriteRegistration {
    explicit RegisterWriteRegistration(RegisterWriteObserver observer) {
        CommandRegistry::instance().addRegisterWriteObserver(observer);
    }
};

// Offset where the method fields of an interface record begin.
inline constexpr std::size_t kMethodFieldsOffset = 20;

// 0 when the record holds at least size bytes; otherwise explains why not and returns
// ZYEMU_STATUS_RECORD_TOO_SHORT.
int32_t requireRecordSize(CommandContext& context, std::size_t size);
// 0 when the reply buffer holds at least size bytes; otherwise explains why not and returns
// ZYEMU_STATUS_REPLY_TOO_SMALL.
int32_t requireReplySize(CommandContext& context, std::size_t size);

}  // namespace zyemu
