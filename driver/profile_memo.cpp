#include "driver/profile_memo.h"

#include <utility>

void ProfileMemo::Begin(bool readable, const std::string& bytes)
{
    if (readable && valid_ && bytes == bytes_)
        return;
    Forget();
    valid_ = readable;
    if (readable)
        bytes_ = bytes;
}

const std::string* ProfileMemo::Find(const char* section, const char* key, int capacity) const
{
    if (!valid_)
        return nullptr;
    auto found = kept_.find(Key(section, key, capacity));
    return found != kept_.end() ? &found->second : nullptr;
}

void ProfileMemo::Note(const char* section, const char* key, int capacity, const std::string& text)
{
    if (valid_)
        noted_[Key(section, key, capacity)] = text;
}

void ProfileMemo::End(bool readable, const std::string& bytes)
{
    if (noted_.empty())
        return;
    if (!readable || !valid_ || bytes != bytes_) {
        // A save came between the reads: what they gave may belong to
        // either content.
        Forget();
        return;
    }
    for (auto& text : noted_)
        kept_[text.first] = std::move(text.second);
    noted_.clear();
}

std::string ProfileMemo::Key(const char* section, const char* key, int capacity)
{
    return std::string(section) + '\n' + key + '\n' + std::to_string(capacity);
}

void ProfileMemo::Forget()
{
    valid_ = false;
    bytes_.clear();
    kept_.clear();
    noted_.clear();
}
