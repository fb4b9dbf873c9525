#include "MeetingCallBoard.h"

namespace lapdeck {

MeetingCallBoard::MeetingCallBoard(QWidget* raceScreen) : QLabel(raceScreen) {
    setObjectName(QStringLiteral("meetingCallBoard"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAlignment(Qt::AlignCenter);
    setWordWrap(true);
    setStyleSheet(QStringLiteral(
        "QLabel { background: rgba(0, 0, 0, 215); color: #ffe14d; border: 3px solid #ffe14d; "
        "border-radius: 12px; padding: 12px; }"));
    hide();
}

void MeetingCallBoard::call(const QStringList& lines) {
    QString html;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        html += QStringLiteral("<div style=\"font-size:%1pt; font-weight:bold\">%2</div>")
                    .arg(i == 0 ? 22 : 34)
                    .arg(lines[i].toHtmlEscaped());
    }
    setText(html);
    const QRect screen = parentWidget()->rect();
    setGeometry(screen.width() / 10, screen.height() / 4, screen.width() * 8 / 10,
                screen.height() / 2);
    show();
    raise();
}

}  // namespace lapdeck
