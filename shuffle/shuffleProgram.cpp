#include "shuffleProgram.h"

#include <cstring>
#include <initializer_list>

#include "consoleProgram.h"
#include "keyDerivation.h"
#include "platform.h"

static_assert(VOCABULARY_SEEDING.outputBytes == SEED_BYTES, "the seeding gives the generator's whole state");

// The options, which are never a passphrase.
static bool isOption(const char* argument) {
    for (const char* option : {"-h", "-t", "-i", "-r", "-m"}) {
        if (std::strcmp(argument, option) == 0) return true;
    }
    return false;
}

// After an optional -m: "-i" or a passphrase.
static ShuffleCommand passphraseCommand(ShuffleMode mode, char* argument) {
    if (std::strcmp(argument, "-i") == 0) return ShuffleCommand{mode, nullptr};
    if (isOption(argument)) return ShuffleCommand{SHUFFLE_USAGE, nullptr};
    return ShuffleCommand{mode, argument};
}

ShuffleCommand parseShuffleArguments(int count, char** arguments) {
    if (count == 2 && std::strcmp(arguments[0], "-m") == 0) return passphraseCommand(SHUFFLE_LEGACY, arguments[1]);
    if (count != 1) return ShuffleCommand{SHUFFLE_USAGE, nullptr};
    if (std::strcmp(arguments[0], "-t") == 0) return ShuffleCommand{SHUFFLE_SELF_TEST, nullptr};
    if (std::strcmp(arguments[0], "-r") == 0) return ShuffleCommand{SHUFFLE_RANDOM, nullptr};
    return passphraseCommand(SHUFFLE_PASSPHRASE, arguments[0]);
}

bool readPassphraseLine(std::FILE* input, unsigned char* passphrase, std::size_t* length, std::FILE* errors) {
    // One byte beyond the longest passphrase and its carriage return shows
    // a line that is too long.
    const std::size_t most = MAX_PASSPHRASE_BYTES + 1;
    std::size_t count = 0;
    int c = 0;
    while (count <= most && (c = std::fgetc(input)) != EOF && c != '\n') {
        passphrase[count++] = static_cast<unsigned char>(c);
    }
    if (c == '\n' && count > 0 && passphrase[count - 1] == '\r') --count;
    if (count > MAX_PASSPHRASE_BYTES) {
        report(errors, SHUFFLER_NAME, "the passphrase (-i: the first line of standard input) is longer than %lu bytes",
               static_cast<unsigned long>(MAX_PASSPHRASE_BYTES));
    } else if (c != '\n') {
        report(errors, SHUFFLER_NAME, "standard input ends before the passphrase's line does "
               "(-i: the passphrase's line, then the word list)");
    } else if (std::memchr(passphrase, 0, count) != nullptr) {
        report(errors, SHUFFLER_NAME, "the passphrase holds a zero byte");
    } else {
        *length = count;
        return true;
    }
    wipeBytes(passphrase, count);
    return false;
}

bool deriveVocabularySeed(const unsigned char* passphrase, std::size_t length, const WordList* sorted,
                          unsigned char seed[SEED_BYTES]) {
    static unsigned char saltInput[WORD_LIST_CAPACITY * WORD_SLOT_BYTES];
    const std::size_t inputLength = seedingSaltInput(sorted, saltInput);
    unsigned char salt[SHA256_BYTES];
    return sha256Digest(saltInput, inputLength, salt) &&
           deriveArgon2id(VOCABULARY_SEEDING, passphrase, length, salt, sizeof salt, seed);
}

// One list per process: the program runs once.
static WordList processWordList;

// The seed the command asks for; false after its message.
static bool commandSeed(ShuffleMode mode, const unsigned char* passphrase, std::size_t length, const WordList* list,
                        unsigned char seed[SEED_BYTES], std::FILE* errors) {
    if (mode == SHUFFLE_LEGACY) {
        legacySeed(passphrase, length, seed);
        return true;
    }
    if (mode == SHUFFLE_RANDOM) {
        if (systemRandomBytes(seed, SEED_BYTES)) return true;
        report(errors, SHUFFLER_NAME, "no random numbers from the system");
        return false;
    }
    if (deriveVocabularySeed(passphrase, length, list, seed)) return true;
    report(errors, SHUFFLER_NAME, "the key derivation failed (it needs %lu KiB of memory)", VOCABULARY_SEEDING.memoryKib);
    return false;
}

int runShuffleCommand(const ShuffleCommand& command, std::FILE* input, std::FILE* output, std::FILE* errors) {
    if (command.mode == SHUFFLE_SELF_TEST) return runMd5SelfTest(output, errors) ? 0 : 1;
    static unsigned char passphrase[MAX_PASSPHRASE_BYTES + 2];
    std::size_t length = 0;
    const bool onInput = command.mode != SHUFFLE_RANDOM && command.passphrase == nullptr;
    if (onInput && !readPassphraseLine(input, passphrase, &length, errors)) return 1;
    const unsigned char* secret = onInput ? passphrase : reinterpret_cast<unsigned char*>(command.passphrase);
    if (!onInput && command.passphrase != nullptr) length = std::strlen(command.passphrase);
    WordList* list = &processWordList;
    unsigned char seed[SEED_BYTES];
    bool seeded = readWordList(input, list, errors);
    if (seeded) {
        sortWords(list->slots, list->count);
        seeded = commandSeed(command.mode, secret, length, list, seed, errors);
    }
    wipeBytes(passphrase, sizeof passphrase);
    if (command.passphrase != nullptr) wipeBytes(command.passphrase, length);
    const int status = seeded ? writeShuffledVocabulary(list, seed, output, errors) : 1;
    wipeBytes(seed, sizeof seed);
    wipeBytes(list, sizeof *list);
    return status;
}
