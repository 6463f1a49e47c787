#pragma once

#include <QString>
#include <QWidget>

#include <map>

class CDibBitmap;
class QPainter;

// A page of an applet sheet: the controls of its dialog template on the sheet's
// wallpaper, repeated in tiles. The sheet creates the page's content the first
// time the page becomes active (OnInitDialog) and tells it when it becomes and
// stops being the active page.
class CBasePage : public QWidget {
    Q_OBJECT

public:
    explicit CBasePage(QWidget* parent = nullptr);
    // The controls of dialog template `templateId` in the user's language; the
    // tab caption is string `captionId`, or the template's title for 0.
    CBasePage(int templateId, unsigned captionId, QWidget* parent = nullptr);

    // The wallpaper to tile behind the controls, not owned; nullptr clears it.
    // Non-zero when a usable bitmap was set; an unusable one leaves the page as
    // it was.
    int SetWallpaper(const CDibBitmap* wallpaper);

    QString Caption() const;
    // The template's control `id`, nullptr when there is none.
    QWidget* Control(int id) const;
    template <typename T> T* ControlAs(int id) const { return dynamic_cast<T*>(Control(id)); }
    // Puts a T in place of control `id` (same place, text and visibility), as a
    // page binds a template control to its own control class.
    template <typename T> T* SubclassControl(int id) {
        auto* replacement = new T(this);
        return ReplaceControl(id, replacement) ? replacement : (delete replacement, nullptr);
    }

    // Whether the page has been set up (OnInitDialog has run).
    bool HasWindow() const;
    // Called by the sheet when the page becomes active: sets it up the first
    // time, then OnSetActive.
    bool Activate();

    // The template's size: the sheet sizes its tabs to its largest page.
    QSize sizeHint() const override;

    virtual bool OnInitDialog();
    virtual bool OnSetActive();
    virtual bool OnKillActive();

    const CDibBitmap* m_hWallpaper = nullptr;
    int m_tileWidth = 0;
    int m_tileHeight = 0;

protected:
    // Paints the wallpaper tiles; false when there is no wallpaper.
    virtual bool OnEraseBkgnd(QPainter& painter);
    void paintEvent(QPaintEvent* event) override;

private:
    bool ReplaceControl(int id, QWidget* replacement);

    QString m_caption;
    std::map<int, QWidget*> m_controls;
    bool m_initialised = false;
};
