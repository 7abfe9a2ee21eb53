#pragma once
// The vocabulary of the FTP client's request machine: the request numbers it reports,
// the steps a request is made of, and the states of the step that runs (what the next
// final reply line of the control connection is for). The transitions are made in
// ftp_request_machine.cpp.
#include <cstdint>

#include "ftp/enum_set.h"

// The request number reported by OnRequestDone (RequestType).
using TFtpRequest = std::uint8_t;

// The request numbers. A single command reports its own; a high-level request reports
// one number for all its steps. Some share a number: a transfer command and the
// high-level request made of PORT and that command, and the full store and append.
enum TFtpRequestNumber : TFtpRequest {
    // Single commands
    rqOpen = 1, rqUser = 2, rqPass = 3, rqCwd = 4, rqPort = 9, rqSyst = 14, rqQuit = 15, rqAbor = 16,
    rqSize = 17, rqMkd = 22, rqRmd = 23, rqDele = 25, rqRnto = 27, rqRnfr = 28, rqPwd = 32, rqQuote = 33,
    rqCdup = 34, rqType = 37, rqRest = 38, rqFeat = 44, rqMlst = 45, rqMdtm = 46, rqMdtmSet = 47,
    rqMfmt = 49, rqMd5 = 50, rqAcct = 51, rqMode = 54, rqOpts = 55, rqXcrc = 57,
    // Transfers, alone or after PORT
    rqList = 7, rqNameList = 8, rqGet = 10, rqPut = 18, rqAppend = 19, rqMachineList = 43,
    // High-level requests
    rqConnect = 5, rqFullGet = 6, rqFullList = 11, rqFullNameList = 12, rqFullSystem = 13,
    rqFullSize = 17, rqFullRename = 24, rqRename = 26, rqFullDelete = 29, rqFullMakeDir = 30,
    rqFullRemoveDir = 31, rqFullQuote = 35, rqFullPut = 36, rqFullAppend = 36, rqResumeGet = 39,
    rqFullResumeGet = 40, rqResumePut = 41, rqFullResumePut = 42, rqOpenQuit = 48
};

// The steps of a request; the ordinal is the bit in StepSet and the value of CurrentStep.
enum TFtpStep : std::uint8_t {
    stepNone, stepOpen, stepUser, stepPass, stepCwd, stepSize, stepMkd, stepRmd, stepRenFrom, stepRenTo,
    stepGet, stepDir, stepQuit, stepSyst, stepDele, stepPwd, stepQuote, stepPut, stepTypeSet, stepRest,
    stepCdup, stepLs, stepAppend, stepPort, stepAbor, stepMlsd, stepFeat, stepMlst, stepMdtm, stepMdtmSet,
    stepAuth, stepMfmt, stepMd5, stepAcct, stepProt, stepPbsz, stepModeZ, stepOpts, stepCcc, stepXcrc
};
using TFtpStepSet = TEnumSet<TFtpStep, std::uint64_t>;

// Where the running step stands: which routine takes the next final reply line.
enum TFtpRequestState : std::uint8_t {
    rsIdle,           // no reply awaited
    rsCommandReply,   // a command's reply, judged against its expected codes
    rsQuitReply,      // QUIT's reply; the control connection is closed after it
    rsGetFirstReply,  // a download's go-ahead (150 or 125)
    rsGetFinalReply,  // a download's end (226 or 250)
    rsPutFirstReply,  // an upload's go-ahead (150 or 125)
    rsPutFinalReply   // an upload's end (226 or 250)
};

// The names the log gives the steps and the states ("stepPort", "rsCommandReply").
const char* FtpStepName(TFtpStep Step);
const char* FtpRequestStateName(TFtpRequestState State);
