#ifndef DEDITORFACTORYVECTOR3D_H
#define DEDITORFACTORYVECTOR3D_H

#include <QHash>
#include <QMap>
#include <QString>
#include <QVector3D>

#include "DPropertyManagerVector3D.h"
#include "QtAbstractEditorFactory.h"

class QLineEdit;

// The line editor of a position row. It takes any two numbers, whatever
// stands between and around them ("12, 3.5", "(12;3.5)", "x12 y3.5"), as x
// and y when the user finishes; z becomes 0, a third number is ignored, and
// text without two readable numbers changes nothing.
class DEditorFactoryVector3D : public QtAbstractEditorFactory<DPropertyManagerVector3D>
{
    Q_OBJECT
public:
    explicit DEditorFactoryVector3D(QObject* parent = nullptr);
    ~DEditorFactoryVector3D() override;

    // x and y of the first two numbers in the text; false, with v untouched,
    // when there are fewer than two or one does not fit a coordinate.
    static bool readVector(const QString& text, QVector3D* v);

protected:
    void connectPropertyManager(DPropertyManagerVector3D* manager) override;
    QWidget* createEditor(DPropertyManagerVector3D* manager, QtProperty* property, QWidget* parent) override;
    void disconnectPropertyManager(DPropertyManagerVector3D* manager) override;

private slots:
    void onPropertyChanged(QtProperty* property, const QVector3D& value);
    void onSetValue();
    void onValueChanged(const QString& text);
    void onEditorDestroyed(QObject* object);

private:
    // A row that is destroyed takes its editors' claims and pending text
    // along: what is typed afterwards writes nothing.
    void onPropertyDestroyed(QtProperty* property);

    QMap<QtProperty*, QLineEdit*> m_editorOf;
    QMap<QtProperty*, QString> m_pendingText;
    QMap<QLineEdit*, QtProperty*> m_propertyOf;
    // Each editor under the address it has as a QObject, for the moment it
    // is destroyed and is a QLineEdit no longer.
    QHash<const QObject*, QLineEdit*> m_editorObjects;
};

#endif // DEDITORFACTORYVECTOR3D_H
