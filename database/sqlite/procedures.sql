-- Procedures for SQLite: one row of TMX_PROCEDURE each (see schema.sql).
-- PARAMETERS lists the parameter names in call order, BODY uses them as :name.
-- GETDATE() and TO_DATE() are functions the component registers on its
-- connections. INSERT OR REPLACE, so the file can be run again to update them.
-- One block per procedure. Keep semicolons out of comments.

-- ---------------------------------------------------------------------------
-- sp_tmx_con_Data_Servidor
-- The server's current local date and time.
-- Answers one row: data_servidor.
-- ---------------------------------------------------------------------------
INSERT OR REPLACE INTO TMX_PROCEDURE (NAME, PARAMETERS, BODY) VALUES (
'sp_tmx_con_Data_Servidor',
'',
'SELECT GETDATE() AS data_servidor'
);

-- ---------------------------------------------------------------------------
-- SP_TMX_CON_EMPRESA_OP p_ponto_operacao_id
-- The company a branch belongs to.
-- Answers one row (empresa_Id), or no row when the branch does not exist.
-- ---------------------------------------------------------------------------
INSERT OR REPLACE INTO TMX_PROCEDURE (NAME, PARAMETERS, BODY) VALUES (
'SP_TMX_CON_EMPRESA_OP',
'p_ponto_operacao_id',
'SELECT PO.EMPRESA_ID AS empresa_Id
   FROM PONTO_OPERACAO PO
  WHERE PO.PONTO_OPERACAO_ID = :p_ponto_operacao_id'
);
