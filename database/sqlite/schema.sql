-- Freight documents (conhecimentos) and their invoices: SQLite schema.
-- Run on an empty database, then procedures.sql, then ../demo.sql (optional).
-- Every CREATE fails on a database that already holds these objects, on purpose.
-- A whole script for the engine's own client, kept beside ../postgresql/schema.sql
-- rather than generated from a shared one: the engines differ inside the
-- tables (types, checks, triggers). A test holds both to the same columns.
-- Dates are stored as text 'YYYY-MM-DD HH:MM:SS'. Record status: TAB_STATUS_ID
-- 1 = active, 2 = deleted. The file is UTF-8.

-- ---------------------------------------------------------------------------
-- Lookup tables. The component relies on these codes.
-- ---------------------------------------------------------------------------

CREATE TABLE TAB_STATUS (
    TAB_STATUS_ID INTEGER PRIMARY KEY,
    DESCRICAO     VARCHAR(60) NOT NULL
);
INSERT INTO TAB_STATUS (TAB_STATUS_ID, DESCRICAO) VALUES (1, 'Ativo');
INSERT INTO TAB_STATUS (TAB_STATUS_ID, DESCRICAO) VALUES (2, 'Excluído');

CREATE TABLE TAB_TIPO_COBRANCA (
    TAB_TIPO_COBRANCA_ID INTEGER PRIMARY KEY,
    DESCRICAO            VARCHAR(60) NOT NULL
);
INSERT INTO TAB_TIPO_COBRANCA (TAB_TIPO_COBRANCA_ID, DESCRICAO) VALUES (1, 'CIF remetente');
INSERT INTO TAB_TIPO_COBRANCA (TAB_TIPO_COBRANCA_ID, DESCRICAO) VALUES (2, 'FOB destinatário');
INSERT INTO TAB_TIPO_COBRANCA (TAB_TIPO_COBRANCA_ID, DESCRICAO) VALUES (3, 'Cliente consignatário');

CREATE TABLE TAB_TIPO_DESPACHO (
    TAB_TIPO_DESPACHO_ID INTEGER PRIMARY KEY,
    DESCRICAO            VARCHAR(60) NOT NULL
);
INSERT INTO TAB_TIPO_DESPACHO (TAB_TIPO_DESPACHO_ID, DESCRICAO) VALUES (1, 'Normal');
INSERT INTO TAB_TIPO_DESPACHO (TAB_TIPO_DESPACHO_ID, DESCRICAO) VALUES (2, 'Expresso');

CREATE TABLE TAB_SIT_ENTREGA (
    TAB_SIT_ENTREGA_ID INTEGER PRIMARY KEY,
    DESCRICAO          VARCHAR(60) NOT NULL
);
INSERT INTO TAB_SIT_ENTREGA (TAB_SIT_ENTREGA_ID, DESCRICAO) VALUES (1, 'Em trânsito');
INSERT INTO TAB_SIT_ENTREGA (TAB_SIT_ENTREGA_ID, DESCRICAO) VALUES (2, 'Entregue');

CREATE TABLE TAB_TIPO_DOCTO_TRANSP (
    TAB_TIPO_DOCTO_TRANSP_ID INTEGER PRIMARY KEY,
    DESCRICAO                VARCHAR(60) NOT NULL
);
INSERT INTO TAB_TIPO_DOCTO_TRANSP (TAB_TIPO_DOCTO_TRANSP_ID, DESCRICAO) VALUES (1, 'Conhecimento rodoviário (CTRC)');
INSERT INTO TAB_TIPO_DOCTO_TRANSP (TAB_TIPO_DOCTO_TRANSP_ID, DESCRICAO) VALUES (2, 'Conhecimento de coleta');

CREATE TABLE TAB_TIPO_MSG (
    TAB_TIPO_MSG_ID INTEGER PRIMARY KEY,
    DESCRICAO       VARCHAR(60) NOT NULL
);
INSERT INTO TAB_TIPO_MSG (TAB_TIPO_MSG_ID, DESCRICAO) VALUES (1, 'Erro');

-- ---------------------------------------------------------------------------
-- Companies, cities, branches.
-- ---------------------------------------------------------------------------

CREATE TABLE EMPRESA (
    EMPRESA_ID       INTEGER PRIMARY KEY,
    NOME             VARCHAR(100) NOT NULL,
    CNPJ             VARCHAR(18),
    GRUPO_EMPRESA_ID INTEGER
);

CREATE TABLE MUNICIPIO (
    MUNICIPIO_ID INTEGER PRIMARY KEY,
    MUNICIPIO    VARCHAR(100) NOT NULL,
    UF           VARCHAR(2)
);

-- Branches (pontos de operação): each belongs to one company.
CREATE TABLE PONTO_OPERACAO (
    PONTO_OPERACAO_ID INTEGER PRIMARY KEY,
    EMPRESA_ID        INTEGER NOT NULL REFERENCES EMPRESA (EMPRESA_ID),
    NOME              VARCHAR(100) NOT NULL,
    MUNICIPIO_ID      INTEGER REFERENCES MUNICIPIO (MUNICIPIO_ID)
);

-- ---------------------------------------------------------------------------
-- Parties: senders, recipients, clients.
-- ---------------------------------------------------------------------------

-- INDICATIVO_PF_PJ: 'F' individual (CPF), 'J' company (CNPJ). PJ_CGC and
-- PF_CPF hold the formatted numbers, either may be NULL (or empty).
CREATE TABLE PESSOA (
    PESSOA_ID        INTEGER PRIMARY KEY,
    NOME             VARCHAR(100),
    INDICATIVO_PF_PJ VARCHAR(1) CHECK (INDICATIVO_PF_PJ IN ('F', 'J')),
    PJ_CGC           VARCHAR(18),
    PF_CPF           VARCHAR(14)
);

CREATE TABLE ENDERECO_PESSOA (
    ENDERECO_PESSOA_ID INTEGER PRIMARY KEY,
    PESSOA_ID          INTEGER NOT NULL REFERENCES PESSOA (PESSOA_ID),
    ENDERECO           VARCHAR(150),
    MUNICIPIO_ID       INTEGER REFERENCES MUNICIPIO (MUNICIPIO_ID),
    TELEFONE           VARCHAR(30)
);
CREATE INDEX IX_ENDERECO_PESSOA_PESSOA ON ENDERECO_PESSOA (PESSOA_ID);

-- The parties that pay freight.
CREATE TABLE CLIENTE (
    PESSOA_ID     INTEGER PRIMARY KEY REFERENCES PESSOA (PESSOA_ID),
    EMPRESA_ID    INTEGER,
    TAB_STATUS_ID INTEGER NOT NULL DEFAULT 1
);

-- One row per address, with the party's name and documents and the city's name.
CREATE VIEW VENDERECO_PESSOA AS
SELECT E.ENDERECO_PESSOA_ID AS ENDERECO_PESSOA_ID,
       E.PESSOA_ID          AS PESSOA_ID,
       P.NOME               AS NOME,
       E.ENDERECO           AS ENDERECO,
       M.MUNICIPIO          AS MUNICIPIO,
       E.TELEFONE           AS TELEFONE,
       P.PJ_CGC             AS PJ_CGC,
       P.PF_CPF             AS PF_CPF,
       P.INDICATIVO_PF_PJ   AS INDICATIVO_PF_PJ
  FROM ENDERECO_PESSOA E
  JOIN PESSOA P ON P.PESSOA_ID = E.PESSOA_ID
  LEFT JOIN MUNICIPIO M ON M.MUNICIPIO_ID = E.MUNICIPIO_ID;

-- One row per client (whatever its status).
CREATE VIEW VCLIENTE AS
SELECT P.PESSOA_ID        AS PESSOA_ID,
       P.NOME             AS NOME,
       P.PJ_CGC           AS PJ_CGC,
       P.PF_CPF           AS PF_CPF,
       P.INDICATIVO_PF_PJ AS INDICATIVO_PF_PJ
  FROM CLIENTE C
  JOIN PESSOA P ON P.PESSOA_ID = C.PESSOA_ID;

-- ---------------------------------------------------------------------------
-- Transport documents and their invoices.
-- ---------------------------------------------------------------------------

-- Every reference is a key, as in production: a document names an existing
-- company, branch, client, address, city and code (NULL: none), and an
-- invoice an existing document. The component writes the screen's 0 as NULL.
CREATE TABLE DOCTO_TRANSPORTE (
    DOCTO_TRANSPORTE_ID        INTEGER PRIMARY KEY,
    EMPRESA_ID                 INTEGER REFERENCES EMPRESA (EMPRESA_ID),
    NUM_DOCTO_TRANSPORTE       INTEGER,
    PONTO_OPERACAO_ID          INTEGER REFERENCES PONTO_OPERACAO (PONTO_OPERACAO_ID),
    TAB_TIPO_COBRANCA_ID       INTEGER REFERENCES TAB_TIPO_COBRANCA (TAB_TIPO_COBRANCA_ID),
    CLIENTE_ID                 INTEGER REFERENCES CLIENTE (PESSOA_ID),
    END_DESTINATARIO_ID        INTEGER REFERENCES ENDERECO_PESSOA (ENDERECO_PESSOA_ID),
    END_REMETENTE_ID           INTEGER REFERENCES ENDERECO_PESSOA (ENDERECO_PESSOA_ID),
    ORIGEM_ID                  INTEGER REFERENCES MUNICIPIO (MUNICIPIO_ID),
    DESTINO_ID                 INTEGER REFERENCES MUNICIPIO (MUNICIPIO_ID),
    PESO_REAL                  NUMERIC(12,3) CHECK (ABS(PESO_REAL) < 1e9),
    VAL_DECLARADO              NUMERIC(14,2) CHECK (ABS(VAL_DECLARADO) < 1e12),
    DATA_EMISSAO               DATETIME,
    PONTO_OPERACAO_DESTINO_ID  INTEGER REFERENCES PONTO_OPERACAO (PONTO_OPERACAO_ID),
    TAB_TIPO_DESPACHO_ID       INTEGER REFERENCES TAB_TIPO_DESPACHO (TAB_TIPO_DESPACHO_ID),
    TAB_SIT_ENTREGA_ID         INTEGER REFERENCES TAB_SIT_ENTREGA (TAB_SIT_ENTREGA_ID),
    NUM_VOLUME                 INTEGER,
    TAB_TIPO_DOCTO_TRANSP_ID   INTEGER REFERENCES TAB_TIPO_DOCTO_TRANSP (TAB_TIPO_DOCTO_TRANSP_ID),
    TAB_STATUS_ID              INTEGER NOT NULL DEFAULT 1 CHECK (TAB_STATUS_ID IN (1, 2))
);
-- A number is issued once per branch among live documents: a deleted
-- document's number may be issued again.
CREATE UNIQUE INDEX UX_DOCTO_TRANSPORTE_NUM
    ON DOCTO_TRANSPORTE (PONTO_OPERACAO_ID, NUM_DOCTO_TRANSPORTE)
    WHERE TAB_STATUS_ID = 1;

-- Invoices (notas fiscais) carried with a document, which they must name.
-- NOTA_FISCAL is the invoice number as printed.
CREATE TABLE NOTA_FISCAL (
    NOTA_FISCAL_ID      INTEGER PRIMARY KEY,
    EMPRESA_ID          INTEGER REFERENCES EMPRESA (EMPRESA_ID),
    DOCTO_TRANSPORTE_ID INTEGER NOT NULL REFERENCES DOCTO_TRANSPORTE (DOCTO_TRANSPORTE_ID),
    NOTA_FISCAL         VARCHAR(20),
    CONTEUDO            VARCHAR(100),
    VAL_DECLARADO       NUMERIC(14,2) CHECK (ABS(VAL_DECLARADO) < 1e12),
    NUM_VOLUME          INTEGER,
    TAB_STATUS_ID       INTEGER NOT NULL DEFAULT 1 CHECK (TAB_STATUS_ID IN (1, 2))
);
CREATE INDEX IX_NOTA_FISCAL_DOCTO ON NOTA_FISCAL (DOCTO_TRANSPORTE_ID);

-- SQLite keeps whatever a statement hands it. These triggers store what a
-- typed server would, whoever writes the row: dates as 'yyyy-mm-dd hh:mm:ss'
-- (so that they compare as dates) and decimals rounded to the column's scale;
-- the columns' checks refuse values beyond their precision. (SQLite has no
-- trigger for insert and update at once.)
CREATE TRIGGER TR_DOCTO_TRANSPORTE_STORED AFTER INSERT ON DOCTO_TRANSPORTE
BEGIN
    UPDATE DOCTO_TRANSPORTE
       SET DATA_EMISSAO = COALESCE(datetime(replace(DATA_EMISSAO, '/', '-')), DATA_EMISSAO),
           PESO_REAL = CASE WHEN typeof(PESO_REAL) IN ('integer', 'real')
                            THEN ROUND(PESO_REAL, 3) ELSE PESO_REAL END,
           VAL_DECLARADO = CASE WHEN typeof(VAL_DECLARADO) IN ('integer', 'real')
                                THEN ROUND(VAL_DECLARADO, 2) ELSE VAL_DECLARADO END
     WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER TR_DOCTO_TRANSPORTE_STORED_UPD
AFTER UPDATE OF DATA_EMISSAO, PESO_REAL, VAL_DECLARADO ON DOCTO_TRANSPORTE
BEGIN
    UPDATE DOCTO_TRANSPORTE
       SET DATA_EMISSAO = COALESCE(datetime(replace(DATA_EMISSAO, '/', '-')), DATA_EMISSAO),
           PESO_REAL = CASE WHEN typeof(PESO_REAL) IN ('integer', 'real')
                            THEN ROUND(PESO_REAL, 3) ELSE PESO_REAL END,
           VAL_DECLARADO = CASE WHEN typeof(VAL_DECLARADO) IN ('integer', 'real')
                                THEN ROUND(VAL_DECLARADO, 2) ELSE VAL_DECLARADO END
     WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER TR_NOTA_FISCAL_STORED AFTER INSERT ON NOTA_FISCAL
WHEN typeof(NEW.VAL_DECLARADO) IN ('integer', 'real')
BEGIN
    UPDATE NOTA_FISCAL SET VAL_DECLARADO = ROUND(VAL_DECLARADO, 2) WHERE rowid = NEW.rowid;
END;

-- ---------------------------------------------------------------------------
-- Infrastructure.
-- ---------------------------------------------------------------------------

-- Last identifier issued per table. Exactly one row (the index on a constant
-- refuses a second one).
CREATE TABLE INFRA_IDS (
    DOCTO_TRANSPORTE_ID INTEGER NOT NULL DEFAULT 0,
    NOTA_FISCAL_ID      INTEGER NOT NULL DEFAULT 0,
    LOG_SISTEMA_ID      INTEGER NOT NULL DEFAULT 0
);
CREATE UNIQUE INDEX UX_INFRA_IDS_ONE_ROW ON INFRA_IDS ((1));
INSERT INTO INFRA_IDS (DOCTO_TRANSPORTE_ID, NOTA_FISCAL_ID, LOG_SISTEMA_ID) VALUES (0, 0, 0);

-- Messages the component logs (errors shown to the user).
CREATE TABLE LOG_MSG (
    LOG_MSG_ID          INTEGER PRIMARY KEY,
    TAB_TIPO_MSG_ID     INTEGER,
    USUARIO_INTERNET_ID INTEGER,
    DATA_LOG            DATETIME,
    MSG01               VARCHAR(255),
    MSG02               VARCHAR(255),
    MSG03               VARCHAR(255),
    MSG04               VARCHAR(255),
    MSG05               VARCHAR(255)
);

CREATE TRIGGER TR_LOG_MSG_STORED AFTER INSERT ON LOG_MSG
BEGIN
    UPDATE LOG_MSG SET DATA_LOG = COALESCE(datetime(replace(DATA_LOG, '/', '-')), DATA_LOG)
     WHERE rowid = NEW.rowid;
END;

-- Audit trail: who did what to which record.
CREATE TABLE LOG_SISTEMA (
    LOG_SISTEMA_ID    INTEGER PRIMARY KEY,
    TABELA_SISTEMA_ID INTEGER,
    TAB_TIPO_ACAO_ID  INTEGER,
    USUARIO_ID        INTEGER,
    REGISTRO_ID       INTEGER,
    DATA_LOG          DATETIME
);

-- The one-row table of the Oracle idiom (SELECT ... FROM DUAL).
CREATE TABLE DUAL (
    DUMMY VARCHAR(1) NOT NULL
);
CREATE UNIQUE INDEX UX_DUAL_ONE_ROW ON DUAL ((1));
INSERT INTO DUAL (DUMMY) VALUES ('X');

-- Procedure catalog. PARAMETERS: the parameters in call order, separated by
-- commas ('' for none), each a name and optionally a type: INTEGER (a whole
-- number of 32 bits), NUMERIC, VARCHAR or TIMESTAMP. A value that its type
-- cannot hold fails the call, as on a typed server. BODY: statements
-- separated by semicolons that use the parameters as :name. The component
-- runs the body in one transaction and answers the rows of the last statement
-- that returns rows.
CREATE TABLE TMX_PROCEDURE (
    NAME       TEXT PRIMARY KEY COLLATE NOCASE,
    PARAMETERS TEXT NOT NULL,
    BODY       TEXT NOT NULL
);
