#pragma once

#include <map>
#include <string>

// The values the profile functions gave for the settings file while its
// bytes stayed the same. Under Wine each profile call opens the file and
// looks for it in the profile cache again (about 0.1 ms); reading the bytes
// and comparing them costs a third of one call, so an open that needs three
// values and an ICGetInfo that needs eight pay that instead. The file stays
// the state: any change of its bytes forgets every value, and a value is
// kept only when the bytes were the same before and after it was read.
// Bookkeeping only; slot_config.cpp reads the file and calls the profile
// functions.
class ProfileMemo {
public:
    // Starts a use of the file whose bytes are now `bytes` (`readable` false
    // when they could not be read whole: nothing is found or kept then).
    void Begin(bool readable, const std::string& bytes);
    // The text kept for the key, as read into a buffer of `capacity`; null
    // when none is kept.
    const std::string* Find(const char* section, const char* key, int capacity) const;
    // A text just read from the file, kept by End.
    void Note(const char* section, const char* key, int capacity, const std::string& text);
    // Ends the use with the bytes read again when anything was noted: the
    // noted texts are kept only when the bytes did not change meanwhile.
    void End(bool readable, const std::string& bytes);
    // Whether End needs the bytes again.
    bool Noted() const { return !noted_.empty(); }

private:
    static std::string Key(const char* section, const char* key, int capacity);
    void Forget();

    bool valid_ = false;
    std::string bytes_;
    std::map<std::string, std::string> kept_;
    std::map<std::string, std::string> noted_;
};
