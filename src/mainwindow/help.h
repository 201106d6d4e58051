// The built-in help: short pages keyed by the help topic numbers that the
// menu items carry. Topic 10 is the general page.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QTextBrowser;

namespace urbica {

inline constexpr int kGeneralHelpTopic = 10;

// The topics that have a page of their own.
QList<int> helpTopics();
bool hasHelpTopic(int topic);
// The page of a topic as HTML; an unknown topic gives the general page.
QString helpTopicHtml(int topic);

class HelpViewer : public QDialog {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);
    void showTopic(int topic);
    int topic() const { return topic_; }
    QString pageText() const;

private:
    QTextBrowser* browser_;
    int topic_ = 0;
};

}  // namespace urbica
