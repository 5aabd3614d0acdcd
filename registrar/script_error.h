#pragma once
// Why a registry script was refused. The numbers are part of the error codes the Windows side
// reports (see docs/registrar.md) and must not change.

namespace marupo::registrar {

enum class ScriptError {
    kNone = 0,
    kExpectedRootKey = 1,
    kExpectedOpenBrace = 2,
    kMissingCloseBrace = 3,
    kExpectedName = 4,
    kExpectedEquals = 5,
    kUnknownType = 6,
    kExpectedQuotedValue = 7,
    kUnterminatedQuote = 8,
    kBadNumber = 9,
    kNumberOutOfRange = 10,
    kBadBinary = 11,
    kBackslashInKeyName = 12,
    kEmptyKeyName = 13,
    kUnterminatedReplacement = 14,
    kUnknownReplacement = 15,
    kNestingTooDeep = 16,
    kNulInName = 17,
};

}  // namespace marupo::registrar
