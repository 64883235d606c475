// Prints the address this computer's page would be shown at, as one line of JSON:
//   {"host":"192.168.1.20","noNetwork":false,"others":["172.17.0.1"]}
#include "page/NetworkAddress.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const page::AddressChoice choice = page::currentAddressChoice();
    const QJsonObject line{{QStringLiteral("host"), choice.host},
                           {QStringLiteral("others"), QJsonArray::fromStringList(choice.others)},
                           {QStringLiteral("noNetwork"), choice.noNetwork}};
    std::printf("%s\n", QJsonDocument(line).toJson(QJsonDocument::Compact).constData());
    return 0;
}
