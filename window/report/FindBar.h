#pragma once
// The find bar under the report: the text to find, Previous and Next, Match case, and what the
// last search found. Every match on screen is marked. A search runs in slices between the
// window's events, so that the window answers while a large report is searched, and it stops
// when the text changes, when another report is shown, or on Esc.
#include "window/report/ReportView.h"
#include "window/report/TextSearch.h"

#include <QTimer>
#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace truno::window {

class FindBar : public QWidget {
    Q_OBJECT

public:
    explicit FindBar(ReportView* view, QWidget* parent = nullptr);

    bool isSearching() const { return search_ != nullptr; }
    QString text() const;

public slots:
    // Shows the bar with the text to find selected, ready to be typed over.
    void open();
    // Hides the bar and unmarks the matches.
    void close();
    void findNext();
    void findPrevious();
    // Esc: stops a search in progress, or else closes the bar.
    void escape();

signals:
    // A search has ended, with or without a match.
    void searchEnded(bool found);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void textEdited();
    void start(std::size_t from, ReportSearch::Direction direction);
    void step();
    void stop();
    void updateMatcher();
    void say(const QString& text);

    ReportView* view_;
    QLineEdit* findText_ = nullptr;
    QCheckBox* matchCase_ = nullptr;
    QToolButton* previous_ = nullptr;
    QToolButton* next_ = nullptr;
    QLabel* findStatus_ = nullptr;
    std::shared_ptr<const TextMatcher> matcher_;
    std::unique_ptr<ReportSearch> search_;
    bool backward_ = false;
    QTimer slices_;
};

}  // namespace truno::window
