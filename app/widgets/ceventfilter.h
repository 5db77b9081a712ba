// Application-wide event filter that lets the user drag frameless windows.
#pragma once

#include <QObject>

// Install one instance on the application object. A widget opts in by
// carrying the dynamic property "CanMove" set to true; a left press on it
// starts a drag, moves with a held button move it, any release ends the drag.
// There is one drag state for the whole process (GUI thread only).
class CEventFilter : public QObject
{
    Q_OBJECT

public:
    explicit CEventFilter(QObject* parent = nullptr);

    bool eventFilter(QObject* watched, QEvent* event) override;
};
