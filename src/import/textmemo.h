// A value made once for each text. The reading keeps one copy of each
// address text, so the same text mostly comes in the same string: found
// first by where its letters lie, it need not be hashed letter by letter.
// The texts must outlive the memo.
#pragma once

#include <QHash>
#include <QString>
#include <unordered_map>

namespace urbica::osmimport {

template <class Value>
class TextMemo {
public:
    // The value kept for text, made by make() the first time; made says
    // whether it was made by this call.
    template <class Make>
    const Value& get(const QString& text, Make make, bool* made = nullptr) {
        if (made) *made = false;
        if (auto at = byPlace_.find(text.constData()); at != byPlace_.end()) return at->second;
        auto known = byText_.constFind(text);
        if (known == byText_.constEnd()) {
            known = byText_.insert(text, make());
            if (made) *made = true;
        }
        return byPlace_.emplace(text.constData(), *known).first->second;
    }

private:
    QHash<QString, Value> byText_;
    std::unordered_map<const QChar*, Value> byPlace_;
};

}  // namespace urbica::osmimport
