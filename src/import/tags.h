// The tags of one object, split once into keys and values. An object's kind,
// names and address take dozens of look-ups, and osmium's packed tag list
// measures every key and value it passes on each of them.
#pragma once

#include <cstring>
#include <osmium/osm/tag.hpp>
#include <vector>

namespace urbica::osmimport {

class Tags {
public:
    explicit Tags(const osmium::TagList& list) {
        tags_.reserve(list.size());
        for (const osmium::Tag& tag : list) tags_.push_back({tag.key(), tag.value()});
    }
    // The value of the first tag of that key, nullptr when there is none
    // (as osmium::TagList's operator[]).
    const char* operator[](const char* key) const {
        for (const Tag& tag : tags_)
            if (tag.key[0] == key[0] && std::strcmp(tag.key, key) == 0) return tag.value;
        return nullptr;
    }
    bool empty() const { return tags_.empty(); }

private:
    struct Tag {
        const char* key;
        const char* value;
    };
    std::vector<Tag> tags_;
};

}  // namespace urbica::osmimport
