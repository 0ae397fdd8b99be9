#include "apps/custom/database_templates.h"

#include "apps/common/wording.h"
#include "kernel/public_variables.h"

namespace {

QList<DatabaseTemplate> Describe() {
    return {
        {.button = "t1",
         .picture = "img/books.bmp",
         .caption = {"Literatur", "Books", "Livros"},
         .tooltip = {"Literaturdatenbank", "Books DB", "Livros DB"},
         .fields = {{"Titel", "Title", "Titulo"},
                    {"Autor", "Author", "Autor"},
                    {"Kategorie", "Categorie", "Categoria"},
                    {"ISBN", "ISBN", "ISBN"},
                    {"Seiten", "Pages", "Páginas"},
                    {"ausgeliehen", "borrowed", "emprestado"},
                    {"zum Verkauf", "for sale", "para venda"},
                    {"gesucht", "wanted", "procurado"},
                    {"Datum", "Date", "Data"},
                    {"Kommentar", "Comments", "Comentário"}},
         .application = {"Literatur DB", "Literature DB", "Livros DB"},
         .searchHint = {"Suche in Titel bzw. Autor", "Search: Title and Author",
                        "Procurar em Titulo ou Autor"}},
        {.button = "t2",
         .picture = "img/vers.bmp",
         .caption = {"Versicherungen", "Insurance", "Seguros"},
         .tooltip = {"Versicherungen DB", "Insurance DB", "Seguros DB"},
         .fields = {{"Bezeichnung", "Designation", "Designação"},
                    {"Art", "Type", "Tipo"},
                    {"Gesellschaft", "Company", "Empr. seguradora"},
                    {"Hotline", "Hotline", "Hotline"},
                    {"Versicherungsnummer", "Insurance number", "Número da apól."},
                    {"Voll", "Full", "Cobertura total"},
                    {"Selbstbeteiligung", "Excess", "Cobertura parcial"},
                    {"Wechseln", "Change", "Trocar"},
                    {"Datum", "Date", "Data"},
                    {"Umfang", "Services", "Descrição da cobertura"}},
         .application = {"Versicherung DB", "Insurance DB", "Seguros DB"},
         .searchHint = {"Suche in Bezeichnung bzw. Art", "Search: Designation and Type",
                        "Procurar em Designação ou Tipo"}},
        {.button = "t3",
         .picture = "img/koch.bmp",
         .caption = {"Kochrezepte", "Cookbook", "Receitas"},
         .tooltip = {"Kochrezepte DB", "Cookbook DB", "Receitas DB"},
         .fields = {{"Speisenname", "Food", "Nome da receita"},
                    {"Speisengruppe", "Group", "Grupo"},
                    {"Hauptzutat", "Essencial ingredient", "Ingrediente princ."},
                    {"Bemerkung", "Comment", "Observação"},
                    {"Getränke", "Drink", "Bebida apropriada"},
                    {"Vorspeise", "appetizer", "Aperitivo"},
                    {"Scharf", "hot", "Apimentado"},
                    {"Schnell fertig", "fast ready", "Preparo rápido"},
                    {"Datum", "Date", "Data"},
                    {"Zubereitung", "How to prepare", "Modo de preparo"}},
         .application = {"Kochrezepte DB", "Cookbook DB", "Receitas DB"},
         .searchHint = {"Suche in Speisenname bzw. Speisengruppe", "Search: Food and Group",
                        "Procurar em Nome da receita ou Grupo"},
         .header1 = {"Speisenname", "Food", "Receita"},
         .nameInBox = {"Kochrezepte DB", "Cookbook", "Receitas DB"}},
        {.button = "t4",
         .picture = "img/kfz.bmp",
         .caption = {"Kfz-Verwaltung", "Vehicles", "Automóveis"},
         .tooltip = {"Kfz-Verwaltung", "Vehicles DB", "Automóveis DB"},
         .fields = {{"Modell", "Model", "Modelo"},
                    {"Kennzeichen", "License plate", "Placa"},
                    {"Farbe", "Color", "Cor"},
                    {"Hubraum", "Cubic capacity", "Capacidade cúbica"},
                    {"KW / PS", "Power (HP)", "HP (horse-power)"},
                    {"Alufelgen", "Sunroof", "Rodas de alumínio"},
                    {"Klimaanlage", "Air condition", "Ar condicionado"},
                    {"Unfall", "Crash", "Sofreu acidente"},
                    {"Erstzulassung", "Year", "Data"},
                    {"Zubehör", "accessories", "Acessórios"}},
         .application = {"Kfz-Verwaltung", "Vehicles", "Automóveis"},
         .searchHint = {"Suche in Modell bzw. Kennzeichen", "Search: Model and License plate",
                        "Procurar em Modelo ou Placa"},
         .header2 = {"Kennzeichen", "License", "Placa"}},
        {.button = "t5",
         .picture = "img/cds.bmp",
         .caption = {"Musik", "Music", "Músicas"},
         .tooltip = {"Musik DB", "Music DB", "Músicas DB"},
         .fields = {{"Kategorie", "Categorie", "Categoria"},
                    {"Interpret", "Interpreter", "Intérprete"},
                    {"CD Titel", "CD Title", "Título (CD)"},
                    {"Band", "Band", "Banda"},
                    {"Dauer", "Duration", "Duração"},
                    {"ausgeliehen", "borrowed", "emprestado"},
                    {"zum Verkauf", "for sale", "para vender"},
                    {"gesucht", "wanted", "procurado"},
                    {"Datum", "Year", "Data"},
                    {"Kommentare", "Comments", "Comentários"}},
         .application = {"Musik DB", "Music DB", "Músicas DB"},
         .searchHint = {"Suche in Kategorie bzw. Interpret", "Search: Categorie and Interpreter",
                        "Procurar em Categoria ou Intérprete"}},
        {.button = "t6",
         .picture = "img/page_video.bmp",
         .caption = {"Videos", "Videos", "Vídeos"},
         .tooltip = {"Videos DB", "Videos DB", "Vídeos DB"},
         .fields = {{"Kategorie", "Categorie", "Categoria"},
                    {"Schauspieler", "Actor", "Ator"},
                    {"Titel", "Title", "Título"},
                    {"Produzent", "Producer", "Produtor"},
                    {"Dauer", "Duration", "Duração"},
                    {"ausgeliehen", "borrowed", "emprestado"},
                    {"zum Verkauf", "for sale", "para vender"},
                    {"gesucht", "wanted", "procurado"},
                    {"Datum", "Year", "Data"},
                    {"Kommentare", "Comments", "Comentários"}},
         .application = {"Videos DB", "Videos DB", "Videos DB"},
         .searchHint = {"Suche in Kategorie bzw. Schauspieler", "Search: Categorie and Actor",
                        "Procurar em Categoria ou Ator"}},
        {.button = "t7",
         .picture = "img/samml.bmp",
         .caption = {"Sammlungen", "Collection", "Coleções"},
         .tooltip = {"Sammlungen DB", "Collection DB", "Coleções DB"},
         .fields = {{"Bezeichnung", "Designation", "Designação"},
                    {"Katalog", "Catalog", "Catálogo"},
                    {"Kategorie", "Categorie", "Categoria"},
                    {"Zustand", "state", "Estado de conservação"},
                    {"Marktwert", "market value", "Preço de mercado"},
                    {"Rarität", "rarity", "raridade"},
                    {"zum Verkauf", "for sale", "para vender"},
                    {"gesucht", "wanted", "procurado"},
                    {"Datum", "Year", "Data"},
                    {"Kommentare", "Comments", "Comentários"}},
         .application = {"Sammlungen DB", "Collection DB", "Coleções DB"},
         .searchHint = {"Suche in Bezeichnung bzw. Katalog", "Search: Designation and Catalog",
                        "Procurar em Designação ou Catálogo"}},
    };
}

}  // namespace

const QList<DatabaseTemplate>& DatabaseTemplates() {
    static const QList<DatabaseTemplate> templates = Describe();
    return templates;
}

QStringList TemplateNames(const DatabaseTemplate& chosen) {
    QStringList names;
    for (const Texts& field : chosen.fields)
        names.append(TEXT(field));
    names.append(TEXT(chosen.application));
    return names;
}

bool NamesOfNoOneButATemplate(const QStringList& names) {
    const auto fieldName = [&names](int n) { return names.value(n).trimmed(); };
    bool blank = true;
    for (int n = 0; n < kNamedFields; ++n)
        blank = blank && fieldName(n).isEmpty();
    if (blank) return true;
    for (const DatabaseTemplate& candidate : DatabaseTemplates()) {
        for (QString Texts::*language : {&Texts::de, &Texts::am, &Texts::br}) {
            bool same = true;
            for (int n = 0; n < kNamedFields && same; ++n)
                same = fieldName(n) == (candidate.fields[n].*language).trimmed();
            if (same) return true;
        }
    }
    return false;
}

bool MayReplaceNames(const QStringList& names) {
    if (NamesOfNoOneButATemplate(names)) return true;
    return MSGYESNO(TEXT({"Die Vorlage ersetzt die Feldnamen, die Sie vergeben haben. Fortfahren?",
                          "The template replaces the field names you gave. Continue?",
                          "O modelo substitui os nomes de campo que você deu. Continuar?"}),
                    THE_APP_NAME);
}

QString TemplateHeader(const DatabaseTemplate& chosen, int column) {
    const Texts& header = column == 1 ? chosen.header1 : chosen.header2;
    return TEXT(IsBlank(header) ? chosen.fields[column - 1] : header);
}

void BuildTemplateToolbar(const QString& window, const QString& toolbar,
                          const QList<Action>& applies) {
    _DEFINETOOLBAR(toolbar, {.parent = window,
                             .buttonWidth = 64,
                             .buttonHeight = 64,
                             .imageWidth = 32,
                             .imageHeight = 32,
                             .flat = true,
                             .bottom = true,
                             .font = {"Arial", 7}});
    const QList<DatabaseTemplate>& templates = DatabaseTemplates();
    for (int n = 0; n < templates.size(); ++n) {
        const DatabaseTemplate& each = templates[n];
        _DEFINETOOLBUTTON(each.button, {.picture = each.picture,
                                        .caption = TEXT(each.caption),
                                        .action = applies.value(n),
                                        .tooltip = TEXT(each.tooltip)});
    }
    _ENDTOOLBAR();
}
